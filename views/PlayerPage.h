#pragma once

#include <QList>
#include <QWidget>

class PlayerControlView;
class QLabel;
class QVBoxLayout;

// The page of a wizard as its user meets it: the header, the picture and one input per control,
// the inputs standing at the top. The player shows the pages of a run in it, the previews the
// page of the selected control.
class PlayerPage : public QWidget {
    Q_OBJECT

public:
    explicit PlayerPage(QWidget* parent = nullptr);

    // The header in the runtime's tagged form; an empty one takes no room.
    void setHeader(const QString& tagged);
    QString headerText() const;
    // The picture's bytes; none, or bytes no picture reader takes, show no picture.
    void setPicture(const QByteArray& bytes);
    bool showsPicture() const;
    // The page takes the view; they go together.
    void addControl(PlayerControlView* view);
    // The header, the picture and the controls go.
    void clear();
    const QList<PlayerControlView*>& controlViews() const { return m_views; }

    // Bold, italic and underline tags pass; "\<" and every other "<" are text.
    static QString headerHtml(const QString& tagged);

private:
    QLabel* m_header = nullptr;
    QLabel* m_picture = nullptr;
    QVBoxLayout* m_controlsLayout = nullptr;
    QList<PlayerControlView*> m_views;
};
