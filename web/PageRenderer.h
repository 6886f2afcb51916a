#pragma once

#include <QByteArray>
#include <QHash>
#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

class RuntimeEngine;
struct RuntimeControl;
struct WebTree;

// The HTML5 pages of a web run, usable without scripts: one form per page with each control as
// the native element of its interface, labels tied to inputs, groups in fieldsets, and the
// buttons the engine allows. Every text from the tree or the user is escaped for its context.
//
// An author's template is any HTML file holding PagePlaceholder where the page goes; it may also
// hold TitlePlaceholder (the wizard's title) and LanguagePlaceholder (the document language).
class PageRenderer {
public:
    static constexpr QLatin1StringView PagePlaceholder{"{{KESTROVA_PAGE}}"};
    static constexpr QLatin1StringView TitlePlaceholder{"{{KESTROVA_TITLE}}"};
    static constexpr QLatin1StringView LanguagePlaceholder{"{{KESTROVA_LANG}}"};
    // The style sheet of the default page, served at StylePath.
    static constexpr QLatin1StringView StylePath{"/kestrova.css"};
    static QByteArray styleSheet();

    struct RunPage {
        QByteArray token;
        QHash<int, QString> inputs;  // control id -> what the user gave, shown again
        QHash<int, QString> refused; // control id -> why the answer was refused
        QStringList newWindowLinks;  // !JUMPN addresses that ran on the way
        QStringList notes;           // messages above the page
        QString submitTo;            // a !SUBMIT address: the values are offered to it
        bool imageFolder = false;    // pictures the tree lacks may come from the image folder
    };
    // The page the engine shows.
    static QString runPage(const WebTree& tree, const RuntimeEngine& engine, const RunPage& page);
    // The page after the run ended: the values given and the items left in each selector.
    static QString endPage(const WebTree& tree, const RuntimeEngine& engine, const RunPage& page);
    // A short page: a title, a message and a link to start again (empty for none).
    static QString messagePage(const QString& title, const QString& message, const QString& startAgain);
    // The list of served trees: (name, title) pairs.
    static QString treeList(const QList<std::pair<QString, QString>>& trees);

    // The form field of a control.
    static QString fieldName(int id) { return QStringLiteral("c%1").arg(id); }
    // The remaining items a dList or dCombo offers.
    static QStringList selectorItems(const RuntimeControl& control, const RuntimeEngine& engine);

private:
    static QString document(const WebTree* tree, const QString& title, const QString& body);
    static QString control(const RuntimeControl& control, const RuntimeEngine& engine, const RunPage& page,
                           bool& focus, const QString& pictureBase);
    static QString submitForm(const RuntimeEngine& engine, const QString& address);
};
