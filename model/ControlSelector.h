#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The list of control names the decision-tree toolbar shows, with its current entry. A combo
// box takes it as its model and follows currentIndexChanged and widthChanged.
// Positions are counted from 1, as the decision manager hands them out; 0 means none.
class ControlSelector final : public QAbstractListModel {
    Q_OBJECT

public:
    explicit ControlSelector(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    int count() const { return static_cast<int>(m_names.size()); }
    // Empty outside 1 .. count().
    QString entry(int position) const;
    const QStringList& entries() const { return m_names; }

    void append(const QString& name);
    // Positions outside 1 .. count() are ignored.
    void removeAt(int position);
    void replaceAt(int position, const QString& name);
    // Leaves the width: the selector only ever grows.
    void clear();

    int currentIndex() const { return m_current; }
    // A position outside 1 .. count() shows no current entry.
    void setCurrentIndex(int position);

    // Enough for the longest name shown so far, in characters; the window turns it into pixels
    // with its own font.
    int width() const { return m_width; }

signals:
    void currentIndexChanged(int position);
    void widthChanged(int characters);

private:
    bool holds(int position) const { return position >= 1 && position <= count(); }
    void widenFor(const QString& name);
    void moveCurrent(int position);

    QStringList m_names;
    int m_current = 0;
    int m_width = 0;
};
