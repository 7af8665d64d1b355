#pragma once

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <string>

#include "dialogs/qt/ActivityTableModel.h"

class CActivityDialog;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The "Activity" window: the counters on top, the recent queries as a table (newest first)
// with a filter box and a "Blocked only" choice above it, and Allow and Block below, which
// act on the selected name. While shown, it follows the log a few times a second at most,
// redrawing only when the log changed and keeping the row the user selected (the same
// query, or else the newest one of the same name). Widgets are found by their object names.
//
// Not modal; owned by the desktop, which keeps one at a time.
class CQtActivityWindow : public QWidget {
public:
    static constexpr int kRefreshIntervalMs = 250;

    // `dialog` is not owned and must outlive the window.
    explicit CQtActivityWindow(CActivityDialog& dialog);
    ~CQtActivityWindow() override;

    // Redraws from the log if it changed since the last redraw, or the filter did.
    void Refresh();

    const CActivityTableModel& Model() const { return m_model; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Redraw();
    void Reselect();
    void OnSelectionChanged();
    void OnAllowOrBlock(bool allow);

    CActivityDialog& m_dialog;
    CActivityTableModel m_model;
    QLabel* m_counters;
    QLineEdit* m_filter;
    QCheckBox* m_blockedOnly;
    QTableView* m_table;
    QPushButton* m_allow;
    QPushButton* m_block;
    QTimer m_timer;
    bool m_stale = true;  // the filter changed, or nothing was drawn yet
    bool m_redrawing = false;
    std::uint64_t m_drawnAdded = 0;
    std::uint64_t m_drawnQueries = 0;
    std::uint64_t m_selectedSequence = 0;
    std::string m_selectedName;
};
