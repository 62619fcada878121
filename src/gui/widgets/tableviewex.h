#ifndef TABLEVIEWEX_H
#define TABLEVIEWEX_H

#include <QRect>
#include <QTableView>
#include <QVector>

#include <array>

// Table view of every table: hover tracking, select-all header on column 0,
// check marks that follow the selection and the two action icons that the
// delegate draws in the configuration column.
class TableViewEx : public QTableView
{
    Q_OBJECT

public:
    // Rows with action icons; further rows work but get no icons.
    static constexpr int MaxIconRows = 1024;
    static constexpr int IconColumn = 8;
    static constexpr int IconSize = 23;
    static constexpr int RemoteIconOffset = 32;

    enum EIconState { IconNone = 0, IconConfig = 1, IconRemote = 2 };

    explicit TableViewEx(QWidget *parent = nullptr);

    void setSelectAllColumn(bool bOn);
    bool selectAllColumn() const { return m_bSelectAllColumn; }

    // Written by the delegate while painting; ignored past MaxIconRows.
    void setIconRect(int iRow, const QRect &rect);
    QRect iconRect(int iRow) const;
    int iconState(int iRow) const;

    // Widens a column to its longest text, never below its designed width.
    void fitColumn(int iColumn, int iMinWidth);

signals:
    void mouse_over_reset();
    void sendOpenConfigDlgSignal();
    void sendRemoteSignal();

public slots:
    void onHeaderClicked(int iSection);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    static bool hasIconSlot(int iRow) { return iRow >= 0 && iRow < MaxIconRows; }
    // Which icon (EIconState) lies under x in a row with the given icon rectangle.
    static int iconAt(const QRect &rect, int iX);
    void syncChecksWithSelection(QMouseEvent *event, bool bPress);
    void setIconState(int iRow, int iState);
    void resetIcons();

    bool m_bSelectAllColumn = true;
    std::array<QRect, MaxIconRows> m_arrIconRect;
    std::array<int, MaxIconRows> m_arrIconState {};
    int m_iIconRow = -1;
    // Rows whose check marks the last press brought in line with the selection.
    QVector<int> m_vecSyncedRows;
    // The icon (EIconState) the last left press hit; its release changes no check mark either.
    int m_iPressedIcon = IconNone;
};

#endif // TABLEVIEWEX_H
