#pragma once

#include "albums/device/AssetSelection.h"
#include "albums/store/PavPhotoModel.h"

#include <QDate>
#include <QHash>
#include <QTimeZone>

#include <vector>

// What the private album's grid shows, without widgets: the store's list as
// it came (oriDataArray, newest first), the same items grouped by the
// calendar day they were stored on (dataArray and dateTitleArray, in the
// list's order, no day twice), and the items chosen in edit mode in the order
// they were chosen (selectedPhotoModels).
class SecretAlbumGrid {
public:
    explicit SecretAlbumGrid(QTimeZone zone = QTimeZone::systemTimeZone()) : m_zone(std::move(zone)) {}

    // Takes a new list: every item is unchecked and the selection emptied.
    void setList(const PavPhotoModelList& list);
    // Forgets everything (the album locked again).
    void clear();

    const PavPhotoModelList& oriDataArray() const { return m_oriDataArray; }
    bool isEmpty() const { return m_oriDataArray.isEmpty(); }
    int sectionCount() const { return static_cast<int>(m_dataArray.size()); }
    const PavPhotoModelList& section(int s) const { return m_dataArray[s]; }
    QDate dayOfSection(int s) const { return m_dateTitleArray[s]; }
    QDate dayOf(const PavPhotoModel& photo) const;
    // The section holding a day, or -1.
    int sectionOfDay(const QDate& day) const;

    int rowCount(int s) const;
    int rowHeight(int s, int row) const;
    // The items of one row: five at most.
    PavPhotoModelList photosForIndexPath(int s, int row) const;

    // Edit mode. A photo view toggled its item's mark: follow it.
    void photoToggled(const PavPhotoModelPtr& photo);
    // A day's check-all: marks every item of the section; returns how many changed.
    int checkAll(int s, bool checked);
    // Every item of the day is checked (false for a day not shown).
    bool isAllChecked(const QDate& day) const;
    PavPhotoModelList selectedPhotoModels() const;
    int selectedCount() const { return m_selection.count(); }
    // Unchecks every chosen item and empties the selection.
    void clearSelection();

    // The toolbar label: "已选择%d张照片" or "请选择照片".
    static QString selectionText(int count);

private:
    PavPhotoModelPtr find(const QString& uuid) const;

    QTimeZone m_zone;
    PavPhotoModelList m_oriDataArray;
    QHash<QString, PavPhotoModelPtr> m_byUuid;
    std::vector<PavPhotoModelList> m_dataArray;
    std::vector<QDate> m_dateTitleArray;
    AssetSelection m_selection;
};
