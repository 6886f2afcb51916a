#include "model/ControlSelector.h"

ControlSelector::ControlSelector(QObject* parent) : QAbstractListModel(parent)
{
}

int ControlSelector::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ControlSelector::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return m_names.at(index.row());
}

QString ControlSelector::entry(int position) const
{
    return holds(position) ? m_names.at(position - 1) : QString();
}

void ControlSelector::append(const QString& name)
{
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    m_names.append(name);
    endInsertRows();
    widenFor(name);
}

void ControlSelector::removeAt(int position)
{
    if (!holds(position))
        return;
    const int row = position - 1;
    beginRemoveRows(QModelIndex(), row, row);
    m_names.removeAt(row);
    endRemoveRows();
    if (m_current == position)
        moveCurrent(0);
    else if (m_current > position)
        moveCurrent(m_current - 1);
}

void ControlSelector::replaceAt(int position, const QString& name)
{
    if (!holds(position))
        return;
    const int row = position - 1;
    m_names[row] = name;
    const QModelIndex changed = index(row);
    emit dataChanged(changed, changed);
    widenFor(name);
}

void ControlSelector::clear()
{
    beginResetModel();
    m_names.clear();
    endResetModel();
    moveCurrent(0);
}

void ControlSelector::setCurrentIndex(int position)
{
    moveCurrent(holds(position) ? position : 0);
}

void ControlSelector::moveCurrent(int position)
{
    if (position == m_current)
        return;
    m_current = position;
    emit currentIndexChanged(m_current);
}

void ControlSelector::widenFor(const QString& name)
{
    if (name.size() <= m_width)
        return;
    m_width = static_cast<int>(name.size());
    emit widthChanged(m_width);
}
