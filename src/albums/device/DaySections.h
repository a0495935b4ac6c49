#pragma once

#include <QDate>
#include <QDateTime>
#include <QTimeZone>

#include <vector>

// The device album's grouping: assets newest first, one section per calendar
// day in one time zone. Works on indexes into the caller's asset list, so it
// is computed off the main thread on plain values and swapped in later.
class DaySections {
public:
    struct Item {
        QDateTime date;  // never invalid: the library always supplies one
        bool isPhoto = true;
    };
    struct Section {
        QDate day;                 // the section's key
        std::vector<int> items;    // indexes into the input, newest first
        int photoCount = 0;
    };

    // Sorted by date, newest first; equal dates keep the later library index
    // first, so the order never depends on the sort's whims.
    static DaySections build(const std::vector<Item>& items, const QTimeZone& zone);

    const std::vector<Section>& sections() const { return m_sections; }
    // Every photo, newest first (what a browser pages through).
    const std::vector<int>& photos() const { return m_photos; }
    // Where an item sits: section index, or -1 when absent.
    int sectionOfDay(const QDate& day) const;
    bool isEmpty() const { return m_sections.empty(); }

private:
    std::vector<Section> m_sections;
    std::vector<int> m_photos;
};
