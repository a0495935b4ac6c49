// Writes the seed replies of the kel_reply target into the folder given:
// real replies made by the project's own encoder, one file per reply, for
// commands 4, 7, 8 and 10, with the body enciphered and gzipped, gzipped
// only, enciphered only and plain. Each is checked to parse before it is
// written.
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/packages/SecurityStrategyPackage.h"
#include "analytics/packages/UploadStrategyPackage.h"
#include "support/LoopbackEnvelope.h"

#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

template <typename T>
analyticsrov::KelBytes encoded(const T& value)
{
    analyticsrov::KelOutputStream os;
    value.writeTo(os);
    return os.takeBytes();
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath("."))
        return 1;

    strategy::SecurityStrategyPackage security;
    security.encryKey = "k8bytes!";
    security.encryPublicKey = "p8bytes!";
    security.encryAlgorithm = 1;
    security.zipAlgorithm = 2;
    strategy::UploadStrategyPackage upload;
    upload.testCount = 3;
    upload.maxPackageSize = 40;
    upload.uploadStrategy = 1;
    upload.uploadServer = "http://127.0.0.1:8080/analytics/upload";
    upload.moduleStrategy = {{1, true}, {2, false}, {300, true}};
    analyticsrov::KelOutputStream mix;
    mix.write(std::map<int32_t, analyticsrov::KelBytes>{{7, encoded(security)}, {8, encoded(upload)}, {9, {1, 2}}}, 0);

    struct Body {
        const char* name;
        int cmd;
        analyticsrov::KelBytes bytes;
    };
    const Body bodies[] = {
        {"crash", 4, {}},
        {"security", 7, encoded(security)},
        {"upload", 8, encoded(upload)},
        {"mix", 10, mix.takeBytes()},
    };
    struct Transform {
        const char* name;
        int encryType;
        int zipType;
    };
    const Transform transforms[] = {{"des-gzip", 1, 2}, {"gzip", -1, 2}, {"des", 1, -1}, {"plain", -1, -1}};

    int written = 0;
    for (const Body& body : bodies) {
        for (const Transform& transform : transforms) {
            if (body.bytes.empty() && transform.encryType != 1)
                continue;   // an empty body is never transformed
            LoopbackEnvelope::Reply reply;
            reply.cmd = body.cmd;
            reply.body = body.bytes;
            reply.encryType = transform.encryType;
            reply.zipType = transform.zipType;
            reply.serverTime = 1'700'000'000'123LL;
            for (int result : {0, 1}) {
                if (result == 1 && body.cmd != 4)
                    continue;
                reply.result = result;
                const QByteArray bytes = LoopbackEnvelope::encodeReply(reply);
                // Every seed is a reply the parser takes whole.
                AnaError error;
                const auto parsed = AnaNuxWrapHelper().createRspData(bytes, "detail", QString(), &error);
                if (!parsed || parsed->cmd != body.cmd || parsed->result != result
                    || (body.cmd != 4 && !parsed->sBuffer)) {
                    std::fprintf(stderr, "%s: %s\n", body.name, qPrintable(error.description));
                    return 1;
                }
                QFile file(folder.filePath(QStringLiteral("%1-%2-%3").arg(body.name, transform.name).arg(result)));
                if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0)
                    return 1;
                ++written;
            }
        }
    }
    std::printf("%d replies written\n", written);
    return 0;
}
