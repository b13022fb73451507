#include "ExtensionListModel.h"

#include "PlugdeskTexts.h"

ExtensionListModel::ExtensionListModel(ExtensionEntries &entries, QObject *parent)
    : QAbstractListModel(parent)
    , m_entries(entries)
{
}

ExtensionEntries::Listing ExtensionListModel::load()
{
    ExtensionEntries::Listing listing = m_entries.enumerate();
    beginResetModel();
    m_rows.clear();
    for (const ExtensionEntries::Entry &e : std::as_const(listing.entries))
        m_rows.append({e.displayName, ExtensionEntries::looksActive(e.active)});
    endResetModel();
    return listing;
}

bool ExtensionListModel::holds(const QModelIndex &index) const
{
    // Views and the model tester ask with invalid indexes too; that is no fault.
    return index.isValid() && index.model() == this && !index.parent().isValid() && index.column() == 0
        && index.row() >= 0 && index.row() < m_rows.size();
}

int ExtensionListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QString ExtensionListModel::text(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].text : QString();
}

bool ExtensionListModel::isChecked(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows[row].checked;
}

QVariant ExtensionListModel::data(const QModelIndex &index, int role) const
{
    if (!holds(index))
        return {};
    const Row &r = m_rows[index.row()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return r.text;
    case Qt::CheckStateRole:
        return r.checked ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

Qt::ItemFlags ExtensionListModel::flags(const QModelIndex &index) const
{
    if (!holds(index))
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemNeverHasChildren;
}

bool ExtensionListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !holds(index))
        return false;
    const int row = index.row();
    const bool wanted = value.toInt() != Qt::Unchecked;
    if (wanted == m_rows[row].checked)
        return true;

    const ExtensionEntries::Switch result = m_entries.setActive(m_rows[row].text, wanted);
    if (!result.ok()) {
        // The view may already have drawn the new check; draw the old one.
        emit dataChanged(index, index, {Qt::CheckStateRole});
        emit writeFailed(row, wanted, result.error.isEmpty() ? PlugdeskTexts::entryGone() : result.error);
        return false;
    }
    m_rows[row].checked = wanted;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}
