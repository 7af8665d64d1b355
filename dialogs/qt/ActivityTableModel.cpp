#include "dialogs/qt/ActivityTableModel.h"

#include <QDateTime>

#include "activity/ActivityText.h"
#include "dialogs/ActivityDialog.h"

namespace {

constexpr const char* kHeaders[] = {"Time", "Name", "Type", "Outcome", "Server", "ms"};

QString CellText(const RecentQuery& query, int column) {
    switch (column) {
        case CActivityTableModel::kTime:
            return QDateTime::fromMSecsSinceEpoch(query.timeMs).toString("HH:mm:ss");
        case CActivityTableModel::kName:
            return QString::fromUtf8(query.Name().data(), static_cast<qsizetype>(query.nameLength));
        case CActivityTableModel::kType:
            return QString::fromStdString(activity::QueryTypeName(query.type));
        case CActivityTableModel::kOutcome: {
            const std::string_view outcome = activity::OutcomeName(query.outcome);
            return QString::fromUtf8(outcome.data(), static_cast<qsizetype>(outcome.size()));
        }
        case CActivityTableModel::kServer:
            return QString::fromStdString(activity::ServerText(query.server));
        case CActivityTableModel::kDuration:
            return query.outcome == ActivityOutcome::kRelayed
                       ? QString::number(query.durationUs / 1000.0, 'f', 1)
                       : QString();
        default:
            return {};
    }
}

}  // namespace

void CActivityTableModel::Refresh(const CRecentQueries& recent, const std::string& filter,
                                  bool blockedOnly) {
    beginResetModel();
    m_rows.clear();
    m_rows.reserve(recent.Size());
    for (std::size_t age = 0; age < recent.Size(); ++age) {
        if (ListsQuery(recent.Newest(age), filter, blockedOnly)) {
            m_rows.push_back(recent.Newest(age));
        }
    }
    endResetModel();
}

int CActivityTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CActivityTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant CActivityTableModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() ||
        static_cast<std::size_t>(index.row()) >= m_rows.size()) {
        return {};
    }
    return CellText(m_rows[static_cast<std::size_t>(index.row())], index.column());
}

QVariant CActivityTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= kColumnCount) {
        return {};
    }
    return QString(kHeaders[section]);
}
