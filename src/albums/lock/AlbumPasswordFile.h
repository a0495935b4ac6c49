#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The private album's password file, Documents/photo/uid: the password's
// UTF-8 bytes, enciphered whole with the file cipher and replaced atomically.
// A missing or undecipherable file means that no password exists; the album
// then asks for a new one (availability is chosen over secrecy here, the file
// cipher's key being fixed anyway).
class AlbumPasswordFile {
public:
    using DocumentsFolder = std::function<QString()>;
    using Writer = std::function<bool(const QByteArray& plain, const QString& path)>;

    // documents: the Documents folder, asked on every use (default: the
    // current home's). writer: enciphers and writes (default: the file cipher).
    explicit AlbumPasswordFile(DocumentsFolder documents = {}, Writer writer = {});

    QString path() const;
    bool exists() const;
    // The stored password; a null QString when there is none.
    QString read() const;
    // Creates the album folder when needed and replaces the file; on failure
    // the old file stays as it was.
    bool write(const QString& password) const;

private:
    QString documents() const;

    DocumentsFolder m_documents;
    Writer m_writer;
};
