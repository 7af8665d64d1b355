#include "dialogs/qt/QtBlockListsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <span>

#include "dialogs/BlockListsDialog.h"
#include "dialogs/ListCatalogue.h"
#include "dialogs/qt/QtDialogButtons.h"

namespace {

constexpr const char* kTitle = "Block Lists";
constexpr int kTableWidth = 900;
constexpr int kTableHeight = 180;
constexpr int kOtherFilesHeight = 100;

QString FromLocal(const std::string& text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename Widget>
Widget* Named(Widget* widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

QPushButton* Button(const char* text, int id, QBoxLayout& into) {
    auto* button = Named(new QPushButton(QString::fromLatin1(text)), id);
    button->setAutoDefault(false);
    into.addWidget(button);
    return button;
}

}  // namespace

CQtBlockListsDialog::CQtBlockListsDialog(CBlockListsDialog& logic, QWidget* parent)
    : QDialog(parent), m_logic(logic) {
    setObjectName(QString::number(CBlockListsDialog::kTemplateId));
    setWindowTitle(QString::fromLatin1(kTitle));
    m_logic.OnInitDialog();

    auto* subscribed = new QGroupBox(QStringLiteral("Subscribed lists:"));
    auto* subscribedLayout = new QVBoxLayout(subscribed);
    m_table = Named(new QTableWidget(0, 5), kListTable);
    m_table->setHorizontalHeaderLabels({"URL", "Side", "Names", "Last update", "Last error"});
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(kTableWidth, kTableHeight);
    subscribedLayout->addWidget(m_table);
    auto* addRow = new QHBoxLayout;
    m_url = Named(new QLineEdit, kUrlEdit);
    m_url->setPlaceholderText(QStringLiteral("https://..."));
    addRow->addWidget(m_url, 1);
    m_side = Named(new QComboBox, kSideChoice);
    m_side->addItems({"Block", "Allow"});
    addRow->addWidget(m_side);
    connect(Button("&Add", kAddButton, *addRow), &QPushButton::clicked, this, [this] { OnAdd(); });
    connect(Button("&Remove", kRemoveButton, *addRow), &QPushButton::clicked, this,
            [this] { OnRemove(); });
    connect(Button("&Update Now", kUpdateNowButton, *addRow), &QPushButton::clicked, this,
            [this] { m_logic.OnUpdateNow(); });
    subscribedLayout->addLayout(addRow);
    m_refusal = Named(new QLabel, kAddRefusal);
    subscribedLayout->addWidget(m_refusal);

    auto* catalogue = new QGroupBox(QStringLiteral("Well-known lists:"));
    auto* catalogueLayout = new QVBoxLayout(catalogue);
    const std::span<const CatalogueList> lists = ListCatalogue();
    for (std::size_t index = 0; index < lists.size(); ++index) {
        auto* box = Named(new QCheckBox(QString::fromUtf8(lists[index].name) + " (" +
                                        QString::fromUtf8(lists[index].licence) + ")"),
                          kFirstCatalogueBox + static_cast<int>(index));
        box->setToolTip(QString::fromUtf8(lists[index].url));
        connect(box, &QCheckBox::toggled, this,
                [this, index](bool ticked) { OnCatalogueToggled(index, ticked); });
        catalogueLayout->addWidget(box);
        m_catalogue.push_back(box);
    }

    auto* others = new QGroupBox(QStringLiteral("Other lists in the block and allow folders:"));
    auto* othersLayout = new QVBoxLayout(others);
    m_otherFiles = Named(new QListWidget, kOtherFileList);
    m_otherFiles->setMaximumHeight(kOtherFilesHeight);
    othersLayout->addWidget(m_otherFiles);

    auto* content = new QVBoxLayout;
    content->addWidget(subscribed);
    content->addWidget(catalogue);
    content->addWidget(others);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(content);
    layout->addLayout(new CQtDialogButtons(*this));

    Refresh();
    connect(&m_refresh, &QTimer::timeout, this, [this] { Refresh(); });
    m_refresh.start(kRefreshIntervalMs);
}

void CQtBlockListsDialog::accept() {
    if (!m_logic.OnOK()) {
        QMessageBox::warning(this, windowTitle(),
                             QStringLiteral("The lists could not be stored in the profile."));
        return;
    }
    QDialog::accept();
}

void CQtBlockListsDialog::OnAdd() {
    const ListSide side = m_side->currentIndex() == 0 ? ListSide::kBlock : ListSide::kAllow;
    const std::string refusal = m_logic.Add({side, m_url->text().trimmed().toStdString()});
    m_refusal->setText(FromLocal(refusal));
    if (!refusal.empty()) {
        return;
    }
    m_url->clear();
    Refresh();
}

void CQtBlockListsDialog::OnRemove() {
    const int row = m_table->currentRow();
    if (row >= 0) {
        m_logic.Remove(static_cast<std::size_t>(row));
        Refresh();
    }
}

void CQtBlockListsDialog::OnCatalogueToggled(std::size_t index, bool ticked) {
    m_logic.SetTicked(index, ticked);
    Refresh();
}

void CQtBlockListsDialog::Refresh() {
    const std::vector<CBlockListsDialog::Row> rows = m_logic.Rows();
    const int selected = m_table->currentRow();
    m_table->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t index = 0; index < rows.size(); ++index) {
        const CBlockListsDialog::Row& row = rows[index];
        const std::string side(row.list.side == ListSide::kBlock ? "Block" : "Allow");
        const std::string cells[] = {row.list.url, side, row.names, row.updated, row.error};
        for (int column = 0; column < 5; ++column) {
            const QString text = FromLocal(cells[column]);
            QTableWidgetItem* item = m_table->item(static_cast<int>(index), column);
            if (item == nullptr) {
                m_table->setItem(static_cast<int>(index), column, new QTableWidgetItem(text));
            } else if (item->text() != text) {
                item->setText(text);
            }
        }
    }
    m_table->resizeColumnToContents(0);
    if (selected >= 0 && selected < m_table->rowCount()) {
        m_table->selectRow(selected);
    }
    for (std::size_t index = 0; index < m_catalogue.size(); ++index) {
        const QSignalBlocker quiet(m_catalogue[index]);
        m_catalogue[index]->setChecked(m_logic.IsTicked(index));
    }
    QStringList files;
    for (const std::string& file : m_logic.OtherFiles()) {
        files << FromLocal(file);
    }
    QStringList shown;
    for (int index = 0; index < m_otherFiles->count(); ++index) {
        shown << m_otherFiles->item(index)->text();
    }
    if (files != shown) {
        m_otherFiles->clear();
        m_otherFiles->addItems(files);
    }
}
