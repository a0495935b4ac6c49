#include "albums/device/DaySections.h"

#include <algorithm>
#include <numeric>

DaySections DaySections::build(const std::vector<Item>& items, const QTimeZone& zone)
{
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        if (items[a].date != items[b].date)
            return items[a].date > items[b].date;
        return a > b;
    });

    DaySections out;
    for (int index : order) {
        const Item& item = items[index];
        const QDate day = item.date.toTimeZone(zone).date();
        if (out.m_sections.empty() || out.m_sections.back().day != day)
            out.m_sections.push_back(Section{day, {}, 0});
        Section& section = out.m_sections.back();
        section.items.push_back(index);
        if (item.isPhoto) {
            ++section.photoCount;
            out.m_photos.push_back(index);
        }
    }
    return out;
}

int DaySections::sectionOfDay(const QDate& day) const
{
    for (size_t i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i].day == day)
            return static_cast<int>(i);
    }
    return -1;
}
