#ifndef QNOFOCUSDELEGATE_H
#define QNOFOCUSDELEGATE_H

#include <QPen>
#include <QPixmap>
#include <QStyledItemDelegate>

class TableViewEx;

// Paints cells without a focus frame, with a horizontal grid line under each
// cell, and (for the device table) the two action icons of column 8.
class QNoFocusDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit QNoFocusDelegate(TableViewEx *pView, bool bDrawIcons = false, QObject *parent = nullptr);

    // Editors of this column hide what is typed.
    void setPasswordColumn(int iColumn) { m_iPasswordColumn = iColumn; }

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    // The model's own tooltip, else the full text of a cell too narrow for it.
    QString toolTipFor(const QStyleOptionViewItem &option, const QModelIndex &index) const;

private:
    QPen m_penGrid;
    TableViewEx *m_pView;
    bool m_bDrawIcons;
    int m_iPasswordColumn = -1;
    // Loaded once: a repaint draws two icons on every visible row.
    QPixmap m_pixCfg, m_pixCfgActive, m_pixRemote, m_pixRemoteActive;
};

#endif // QNOFOCUSDELEGATE_H
