#include "dialogs/qt/QtActivityWindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "activity/ActivityText.h"
#include "activity/QueryLog.h"
#include "dialogs/ActivityDialog.h"

CQtActivityWindow::CQtActivityWindow(CActivityDialog& dialog)
    : m_dialog(dialog),
      m_counters(new QLabel(this)),
      m_filter(new QLineEdit(this)),
      m_blockedOnly(new QCheckBox("&Blocked only", this)),
      m_table(new QTableView(this)),
      m_allow(new QPushButton("&Allow", this)),
      m_block(new QPushButton("Bloc&k", this)) {
    setWindowTitle("Nimbrel Activity");
    m_counters->setObjectName("counters");
    m_filter->setObjectName("filter");
    m_filter->setPlaceholderText("Filter names");
    m_filter->setClearButtonEnabled(true);
    m_blockedOnly->setObjectName("blockedOnly");
    m_table->setObjectName("table");
    m_table->setModel(&m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(CActivityTableModel::kName,
                                                      QHeaderView::Stretch);
    m_allow->setObjectName("allow");
    m_allow->setToolTip("Add the name to pass.txt: always relayed");
    m_block->setObjectName("block");
    m_block->setToolTip("Add the name to named.txt: answered with 127.0.0.1");

    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(m_filter, 1);
    filterRow->addWidget(m_blockedOnly);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_allow);
    buttonRow->addWidget(m_block);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_counters);
    layout->addLayout(filterRow);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttonRow);
    resize(760, 440);

    connect(m_filter, &QLineEdit::textChanged, this, [this] {
        m_stale = true;
        Refresh();
    });
    connect(m_blockedOnly, &QCheckBox::toggled, this, [this] {
        m_stale = true;
        Refresh();
    });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnSelectionChanged(); });
    connect(m_allow, &QPushButton::clicked, this, [this] { OnAllowOrBlock(true); });
    connect(m_block, &QPushButton::clicked, this, [this] { OnAllowOrBlock(false); });
    connect(&m_timer, &QTimer::timeout, this, [this] { Refresh(); });
    m_timer.setInterval(kRefreshIntervalMs);
    OnSelectionChanged();
    Refresh();
}

CQtActivityWindow::~CQtActivityWindow() = default;

void CQtActivityWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
    m_timer.start();
}

void CQtActivityWindow::hideEvent(QHideEvent* event) {
    m_timer.stop();
    QWidget::hideEvent(event);
}

void CQtActivityWindow::Refresh() {
    const CQueryLog& log = m_dialog.Log();
    if (!m_stale && log.Recent().Added() == m_drawnAdded &&
        log.Counters().Queries() == m_drawnQueries) {
        return;
    }
    m_stale = false;
    m_drawnAdded = log.Recent().Added();
    m_drawnQueries = log.Counters().Queries();
    Redraw();
}

void CQtActivityWindow::Redraw() {
    const CQueryLog& log = m_dialog.Log();
    std::string counters = activity::CountersLine(log.Counters());
    if (!log.KeepsNames()) {
        counters += "\nNames are not kept ([Preferences] KeepActivity=0).";
    }
    m_counters->setText(QString::fromStdString(counters));
    m_redrawing = true;
    m_model.Refresh(log.Recent(), m_filter->text().toStdString(), m_blockedOnly->isChecked());
    Reselect();
    m_redrawing = false;
    OnSelectionChanged();
}

void CQtActivityWindow::Reselect() {
    const std::vector<RecentQuery>& rows = m_model.Rows();
    int found = -1;
    for (std::size_t row = 0; row < rows.size() && found < 0; ++row) {
        if (rows[row].sequence == m_selectedSequence) {
            found = static_cast<int>(row);
        }
    }
    for (std::size_t row = 0; row < rows.size() && found < 0 && !m_selectedName.empty(); ++row) {
        if (rows[row].Name() == m_selectedName) {
            found = static_cast<int>(row);
        }
    }
    if (found >= 0) {
        m_table->selectRow(found);
    } else {
        m_table->clearSelection();
    }
}

void CQtActivityWindow::OnSelectionChanged() {
    if (m_redrawing) {
        return;
    }
    const QModelIndexList selected = m_table->selectionModel()->selectedRows();
    if (selected.isEmpty()) {
        m_selectedSequence = 0;
        m_selectedName.clear();
    } else {
        const RecentQuery& query = m_model.Rows()[static_cast<std::size_t>(selected[0].row())];
        m_selectedSequence = query.sequence;
        m_selectedName = std::string(query.Name());
    }
    m_allow->setEnabled(!m_selectedName.empty());
    m_block->setEnabled(!m_selectedName.empty());
}

void CQtActivityWindow::OnAllowOrBlock(bool allow) {
    if (m_selectedName.empty()) {
        return;
    }
    const std::string name = m_selectedName;
    if (allow) {
        m_dialog.Allow(name);
    } else {
        m_dialog.Block(name);
    }
}
