#pragma once

#include <QHeaderView>

// The selector grid's header row, which holds the property names: an empty cell shows the
// placeholder "Property name" in grey, so a new author types the names there rather than into
// the first item row.
class PropertyHeaderView final : public QHeaderView {
    Q_OBJECT
public:
    explicit PropertyHeaderView(QWidget* parent = nullptr);

    static QString Placeholder();

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};
