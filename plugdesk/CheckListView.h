#pragma once
// CheckListView: a list of check boxes, one per row of its model (the
// extension manager's List1). To a screen reader each row is a check box
// named by its text, checked or not, that can be toggled; when a row's check
// changes, the row says so. Qt's own list items say neither: through AT-SPI
// an unchecked item reads as its bare name, and a changed check is reported
// only as "data changed" somewhere in the table, which is not passed on.

#include <QListView>

class CheckListView : public QListView
{
    Q_OBJECT
public:
    explicit CheckListView(QWidget *parent = nullptr);

protected:
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;
};
