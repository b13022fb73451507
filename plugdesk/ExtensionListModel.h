#pragma once
// ExtensionListModel: the check-box list of the extension manager, one row
// per entry of the Extensions key in enumeration order. The rows are filled
// once by load(); the checks set there write nothing. Only a check changed
// through setData() writes Active, at once, to every entry that belongs to
// the row's text. A change that does not reach the hive is refused: the row
// keeps its old check and writeFailed() tells the window why.

#include "ExtensionEntries.h"

#include <QAbstractListModel>

class ExtensionListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit ExtensionListModel(ExtensionEntries &entries, QObject *parent = nullptr);

    // Fills the rows afresh. The listing tells whether any entry was found
    // and whether the hive could be read at all.
    ExtensionEntries::Listing load();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    QString text(int row) const;
    bool isChecked(int row) const;

signals:
    // wanted: the check the user asked for; reason: a German text.
    void writeFailed(int row, bool wanted, const QString &reason);

private:
    struct Row {
        QString text;
        bool checked = false;
    };

    bool holds(const QModelIndex &index) const;

    ExtensionEntries &m_entries;
    QList<Row> m_rows;
};
