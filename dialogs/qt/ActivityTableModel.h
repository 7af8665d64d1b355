#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "activity/RecentQueries.h"

// The Activity window's table: a copy of the listed recent queries, newest first, taken at
// each refresh, so that queries arriving between two refreshes never change what is drawn.
class CActivityTableModel : public QAbstractTableModel {
public:
    enum Column { kTime, kName, kType, kOutcome, kServer, kDuration, kColumnCount };

    // Takes the queries of `recent` that ListsQuery lets through.
    void Refresh(const CRecentQueries& recent, const std::string& filter, bool blockedOnly);

    const std::vector<RecentQuery>& Rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<RecentQuery> m_rows;
};
