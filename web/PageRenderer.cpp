#include "web/PageRenderer.h"

#include "base/ResourceStrings.h"
#include "runtime/RuntimeEngine.h"
#include "web/HtmlText.h"
#include "web/WebTree.h"

#include <QSet>
#include <QUrl>

#include <cmath>

namespace {
constexpr int BackId = 35010;
constexpr int NextId = 35011;
constexpr int FinishId = 35012;
constexpr int StartAgainId = 35013;
constexpr int HelpId = 35014;
constexpr int YourAnswersId = 35015;
constexpr int ItemsLeftId = 35016;
constexpr int NewWindowId = 35017;
constexpr int SubmitToId = 35018;
constexpr int SendId = 35019;
constexpr int TreeListTitleId = 35020;
constexpr int RunStoppedId = 35023;
constexpr int DefaultDoneId = 11423;
constexpr int RunEndedId = 32580;

QString attr(const QString& raw)
{
    return HtmlText::attribute(raw);
}

QString text(const QString& raw)
{
    return HtmlText::text(raw);
}

QString number(double value)
{
    return QString::number(value, 'g', 15);
}

QString captionOf(const RuntimeControl& control)
{
    return control.caption.isEmpty() ? control.displayName() : control.caption;
}

// The attributes every answer field carries: its name, id, the first field's focus and, when
// refused, the tie to its reason.
QString fieldAttributes(const RuntimeControl& control, bool& focus, bool refused, bool withId = true)
{
    QString out = QStringLiteral(" name=\"%1\"").arg(PageRenderer::fieldName(control.id));
    if (withId)
        out += QStringLiteral(" id=\"%1\"").arg(PageRenderer::fieldName(control.id));
    if (std::exchange(focus, false))
        out += QLatin1String(" autofocus");
    if (refused)
        out += QStringLiteral(" aria-invalid=\"true\" aria-describedby=\"%1-error\"").arg(PageRenderer::fieldName(control.id));
    return out;
}

QString options(const QStringList& entries, const QStringList& chosen)
{
    QString out;
    for (const QString& entry : entries)
        out += QStringLiteral("<option value=\"%1\"%2>%3</option>")
                   .arg(attr(entry), chosen.contains(entry) ? QStringLiteral(" selected") : QString(), text(entry));
    return out;
}

QString optionTexts(const RuntimeControl& control, QStringList* list = nullptr)
{
    QStringList texts;
    for (const RuntimeOption& option : control.options)
        texts.append(option.text);
    if (list)
        *list = texts;
    return {};
}

QString label(const RuntimeControl& control)
{
    return QStringLiteral("<label for=\"%1\">%2</label>").arg(PageRenderer::fieldName(control.id), text(captionOf(control)));
}

// Only http and https addresses become links.
QString linkOrText(const QString& address, const QString& caption, bool newWindow)
{
    if (!HtmlText::isWebAddress(address))
        return text(caption);
    return QStringLiteral("<a href=\"%1\"%2>%3</a>")
        .arg(attr(QUrl(address.trimmed()).toString(QUrl::FullyEncoded)),
             newWindow ? QStringLiteral(" target=\"_blank\" rel=\"noopener noreferrer\"") : QString(), text(caption));
}

QString notes(const PageRenderer::RunPage& page)
{
    QString out;
    for (const QString& note : page.notes)
        out += QStringLiteral("<p class=\"note\" role=\"status\">%1</p>\n").arg(text(note));
    for (const QString& link : page.newWindowLinks)
        out += QStringLiteral("<p class=\"note\">%1</p>\n")
                   .arg(LoadResString(NewWindowId).arg(linkOrText(link, link, true)));
    return out;
}

} // namespace

QByteArray PageRenderer::styleSheet()
{
    return QByteArrayLiteral(
        "body{font-family:system-ui,sans-serif;margin:0;background:#f4f5f7;color:#1d1f23;line-height:1.45}\n"
        "main{max-width:46rem;margin:2rem auto;background:#fff;padding:1.5rem 2rem;border-radius:8px;"
        "box-shadow:0 1px 3px rgba(0,0,0,.15)}\n"
        "h1{font-size:1.4rem;margin:0 0 1rem}\n"
        ".header{margin:0 0 1rem}\n"
        ".control{margin:1rem 0}\n"
        ".control>label,legend{font-weight:600;display:block;margin-bottom:.3rem}\n"
        "fieldset{border:1px solid #c9ccd3;border-radius:6px;padding:.6rem 1rem}\n"
        "fieldset label{display:block;margin:.2rem 0}\n"
        "input[type=text],input[type=number],select,textarea{font:inherit;padding:.35rem;min-width:16rem;max-width:100%}\n"
        "textarea{min-height:6rem;width:100%;box-sizing:border-box}\n"
        ".error{color:#b00020;font-weight:600;margin:.3rem 0}\n"
        ".note{background:#eef4ff;padding:.5rem .8rem;border-radius:4px}\n"
        ".nav{display:flex;gap:.6rem;margin-top:1.5rem}\n"
        ".nav .back{order:-1}\n"
        "button{font:inherit;padding:.45rem 1.2rem;border-radius:5px;border:1px solid #2f5fd0;background:#2f5fd0;color:#fff;cursor:pointer}\n"
        "button.back{background:#fff;color:#2f5fd0}\n"
        "button:focus,input:focus,select:focus,textarea:focus,a:focus{outline:3px solid #ffb000;outline-offset:2px}\n"
        "img.picture{max-width:100%;height:auto;margin:0 0 1rem}\n"
        "dl.values dt{font-weight:600}\n"
        "dl.values dd{margin:0 0 .6rem 1rem}\n");
}

QStringList PageRenderer::selectorItems(const RuntimeControl& control, const RuntimeEngine& engine)
{
    QStringList items;
    for (const RuntimeOption& option : control.options) {
        if (const SelectorTable* table = engine.selector(option.text))
            for (const int item : table->remaining())
                items.append(table->itemName(item));
    }
    return items;
}

QString PageRenderer::control(const RuntimeControl& control, const RuntimeEngine& engine, const RunPage& page,
                              bool& focus, const QString& pictureBase)
{
    Q_UNUSED(pictureBase)
    const QString field = fieldName(control.id);
    const bool refused = page.refused.contains(control.id);
    const QString value = page.inputs.contains(control.id) ? page.inputs.value(control.id) : engine.value(control.id);
    QStringList choices;
    optionTexts(control, &choices);
    QString body;
    switch (control.type) {
    case RuntimeInterface::Radio:
    case RuntimeInterface::MultiList: {
        const bool multiple = control.type == RuntimeInterface::MultiList;
        const QStringList chosen = multiple ? value.split(QLatin1Char('|'), Qt::SkipEmptyParts) : QStringList{value};
        body = QStringLiteral("<fieldset%1><legend>%2</legend>\n")
                   .arg(refused ? QStringLiteral(" aria-describedby=\"%1-error\"").arg(field) : QString(),
                        text(captionOf(control)));
        for (qsizetype i = 0; i < choices.size(); ++i) {
            const QString& choice = choices.at(i);
            const bool checked = multiple ? chosen.contains(choice) : choice.compare(value, Qt::CaseInsensitive) == 0;
            body += QStringLiteral("<label><input type=\"%1\"%2 value=\"%3\"%4> %5</label>\n")
                        .arg(multiple ? QStringLiteral("checkbox") : QStringLiteral("radio"),
                             fieldAttributes(control, focus, false, false), attr(choice),
                             checked ? QStringLiteral(" checked") : QString(), text(choice));
        }
        body += QLatin1String("</fieldset>");
        break;
    }
    case RuntimeInterface::Check:
        body = QStringLiteral("<input type=\"checkbox\"%1 value=\"True\"%2> %3")
                   .arg(fieldAttributes(control, focus, refused),
                        value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ? QStringLiteral(" checked") : QString(),
                        label(control));
        break;
    case RuntimeInterface::Command:
        body = QStringLiteral("<button type=\"submit\"%1 value=\"True\">%2</button>")
                   .arg(fieldAttributes(control, focus, refused), text(captionOf(control)));
        break;
    case RuntimeInterface::List:
    case RuntimeInterface::Combo:
    case RuntimeInterface::DList:
    case RuntimeInterface::DCombo: {
        const bool fromSelector = control.isSelectorList();
        const QStringList entries = fromSelector ? selectorItems(control, engine) : choices;
        const bool list = control.type == RuntimeInterface::List || control.type == RuntimeInterface::DList;
        const qsizetype size = list ? std::clamp<qsizetype>(entries.size(), 2, 10) : 1;
        body = label(control) + QStringLiteral("\n<select%1 size=\"%2\">").arg(fieldAttributes(control, focus, refused)).arg(size);
        body += options(entries, {value}) + QLatin1String("</select>");
        break;
    }
    case RuntimeInterface::NumBox:
    case RuntimeInterface::RealNumBox:
    case RuntimeInterface::NumSlide: {
        const NumericRange limits = control.limits();
        const bool slide = control.type == RuntimeInterface::NumSlide && limits.low && limits.high;
        QString span;
        if (limits.low)
            span += QStringLiteral(" min=\"%1\"").arg(number(*limits.low));
        if (limits.high)
            span += QStringLiteral(" max=\"%1\"").arg(number(*limits.high));
        const QString step = control.type == RuntimeInterface::RealNumBox ? QStringLiteral("any") : QStringLiteral("1");
        body = label(control) + QStringLiteral("\n<input type=\"%1\"%2%3 step=\"%4\" value=\"%5\">")
                                    .arg(slide ? QStringLiteral("range") : QStringLiteral("number"),
                                         fieldAttributes(control, focus, refused), span, step, attr(value));
        if (slide)
            body += QStringLiteral(" <output for=\"%1\">%2</output>").arg(field, text(value));
        break;
    }
    case RuntimeInterface::Slide: {
        // The position picks an option; the options are written out beside it.
        const qsizetype position = std::max<qsizetype>(0, choices.indexOf(value));
        body = label(control) + QStringLiteral("\n<input type=\"range\"%1 min=\"0\" max=\"%2\" step=\"1\" value=\"%3\" list=\"%4-ticks\">")
                                    .arg(fieldAttributes(control, focus, refused))
                                    .arg(std::max<qsizetype>(0, choices.size() - 1))
                                    .arg(position)
                                    .arg(field);
        body += QStringLiteral("<datalist id=\"%1-ticks\">").arg(field);
        for (qsizetype i = 0; i < choices.size(); ++i)
            body += QStringLiteral("<option value=\"%1\" label=\"%2\"></option>").arg(i).arg(attr(choices.at(i)));
        body += QStringLiteral("</datalist> <output for=\"%1\">%2</output>").arg(field, text(choices.value(position)));
        body += QLatin1String("<ol start=\"0\" class=\"ticks\">");
        for (const QString& choice : choices)
            body += QStringLiteral("<li>%1</li>").arg(text(choice));
        body += QLatin1String("</ol>");
        break;
    }
    case RuntimeInterface::StringBox:
        body = label(control) + QStringLiteral("\n<input type=\"text\"%1 value=\"%2\">").arg(fieldAttributes(control, focus, refused), attr(value));
        break;
    case RuntimeInterface::TextArea:
        // The newline after the tag keeps a value's own first line break.
        body = label(control) + QStringLiteral("\n<textarea%1 rows=\"5\">\n%2</textarea>").arg(fieldAttributes(control, focus, refused), text(value));
        break;
    case RuntimeInterface::Info:
    case RuntimeInterface::Done:
    case RuntimeInterface::Unknown:
        body = QStringLiteral("<p class=\"caption\">%1</p>").arg(text(control.caption));
        break;
    }
    QString out = QStringLiteral("<div class=\"control\" id=\"%1-control\" data-control=\"%2\">\n%3\n")
                      .arg(field, attr(control.displayName()), body);
    if (refused)
        out += QStringLiteral("<p class=\"error\" id=\"%1-error\" role=\"alert\">%2</p>\n").arg(field, text(page.refused.value(control.id)));
    return out + QLatin1String("</div>\n");
}

QString PageRenderer::runPage(const WebTree& tree, const RuntimeEngine& engine, const RunPage& page)
{
    const QString base = QStringLiteral("/%1/").arg(QString::fromLatin1(QUrl::toPercentEncoding(tree.name)));
    QString body = notes(page);
    const QString shown = engine.page().isEmpty() ? QString() : engine.control(engine.page().first())->displayName();
    body += QStringLiteral("<form method=\"post\" action=\"%1\" enctype=\"multipart/form-data\" data-page=\"%2\" novalidate>\n")
                .arg(attr(base), attr(shown));
    body += QStringLiteral("<input type=\"hidden\" name=\"token\" value=\"%1\">\n").arg(attr(QString::fromLatin1(page.token)));
    if (page.refused.contains(0))
        body += QStringLiteral("<p class=\"error\" role=\"alert\">%1</p>\n").arg(text(page.refused.value(0)));
    bool focus = true;
    if (engine.onDefaultDonePage()) {
        body += QStringLiteral("<div class=\"header\">%1</div>\n").arg(text(LoadResString(DefaultDoneId)));
    } else if (!engine.page().isEmpty()) {
        const RuntimeControl& main = *engine.control(engine.page().first());
        if (!main.header.isEmpty())
            body += QStringLiteral("<div class=\"header\">%1</div>\n").arg(HtmlText::header(main.header));
        if (!main.picture.isEmpty() && (page.imageFolder || tree.compiled.pictures.contains(main.picture.toCaseFolded())))
            body += QStringLiteral("<img class=\"picture\" src=\"%1images/%2\" alt=\"\">\n")
                        .arg(attr(base), attr(QString::fromLatin1(QUrl::toPercentEncoding(main.picture))));
        if (const QString help = tree.help.value(main.name.toCaseFolded()); !help.isEmpty())
            body += QStringLiteral("<p class=\"help\">%1</p>\n").arg(linkOrText(help, LoadResString(HelpId), true));
        for (const int id : engine.page())
            body += control(*engine.control(id), engine, page, focus, base);
    }
    // Next comes first, so Enter in a field means Next; the style puts Back first on screen. The
    // form is not checked by the browser: the engine's reasons are the ones shown.
    body += QLatin1String("<div class=\"nav\">\n");
    if (engine.isRunning() && !engine.onDonePage())
        body += QStringLiteral("<button type=\"submit\" name=\"go\" value=\"next\" class=\"next\">%1</button>\n").arg(text(LoadResString(NextId)));
    if (engine.isRunning() && (engine.earlyFinish() || engine.onDonePage()))
        body += QStringLiteral("<button type=\"submit\" name=\"go\" value=\"finish\" class=\"finish\">%1</button>\n").arg(text(LoadResString(FinishId)));
    if (engine.canGoBack())
        body += QStringLiteral("<button type=\"submit\" name=\"go\" value=\"back\" class=\"back\">%1</button>\n").arg(text(LoadResString(BackId)));
    body += QLatin1String("</div>\n</form>\n");
    if (!page.submitTo.isEmpty())
        body += submitForm(engine, page.submitTo);
    return document(&tree, tree.title, body);
}

QString PageRenderer::submitForm(const RuntimeEngine& engine, const QString& address)
{
    if (!HtmlText::isWebAddress(address))
        return {};
    QString out = QStringLiteral("<form method=\"post\" action=\"%1\" class=\"submit\">\n")
                      .arg(attr(QUrl(address.trimmed()).toString(QUrl::FullyEncoded)));
    for (const auto& [name, value] : engine.values().controls)
        out += QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"%2\">\n").arg(attr(name), attr(value));
    out += QStringLiteral("<p>%1 <button type=\"submit\">%2</button></p>\n</form>\n")
               .arg(text(LoadResString(SubmitToId).arg(address.trimmed())), text(LoadResString(SendId)));
    return out;
}

QString PageRenderer::endPage(const WebTree& tree, const RuntimeEngine& engine, const RunPage& page)
{
    const QString base = QStringLiteral("/%1/").arg(QString::fromLatin1(QUrl::toPercentEncoding(tree.name)));
    QString body = notes(page);
    if (engine.runEnd() == RuntimeEngine::RunEnd::Failed)
        body += QStringLiteral("<p class=\"error\" role=\"alert\">%1</p>\n").arg(text(LoadResString(RunStoppedId).arg(engine.errorText())));
    else
        body += QStringLiteral("<p class=\"ended\">%1</p>\n").arg(text(LoadResString(RunEndedId)));
    const RuntimeEngine::RunValues values = engine.values();
    body += QStringLiteral("<h2>%1</h2>\n<dl class=\"values\">\n").arg(text(LoadResString(YourAnswersId)));
    // The controls of the pages the run showed, each once, in the order first shown.
    QList<int> shown;
    for (const RuntimeEngine::LeftPage& left : engine.pagesLeft())
        shown.append(left.controls);
    shown.append(engine.page());
    QSet<int> listed;
    for (const int id : shown) {
        const RuntimeControl* found = engine.control(id);
        if (!found || !found->takesAnswer() || listed.contains(id))
            continue;
        listed.insert(id);
        body += QStringLiteral("<dt data-control=\"%1\">%2</dt><dd data-control=\"%1\">%3</dd>\n")
                    .arg(attr(found->displayName()), text(captionOf(*found)), text(engine.value(id)));
    }
    body += QLatin1String("</dl>\n");
    for (const auto& [selector, items] : values.selectorItems) {
        body += QStringLiteral("<h2>%1</h2>\n<ol class=\"items\" data-selector=\"%2\">\n")
                    .arg(text(LoadResString(ItemsLeftId).arg(selector)), attr(selector));
        for (const QString& item : items)
            body += QStringLiteral("<li>%1</li>\n").arg(text(item));
        body += QLatin1String("</ol>\n");
    }
    body += QStringLiteral("<p><a href=\"%1\" class=\"again\">%2</a></p>\n").arg(attr(base), text(LoadResString(StartAgainId)));
    if (!page.submitTo.isEmpty())
        body += submitForm(engine, page.submitTo);
    return document(&tree, tree.title, body);
}

QString PageRenderer::messagePage(const QString& title, const QString& message, const QString& startAgain)
{
    QString body = QStringLiteral("<p class=\"error\" role=\"alert\">%1</p>\n").arg(text(message));
    if (!startAgain.isEmpty())
        body += QStringLiteral("<p><a href=\"%1\" class=\"again\">%2</a></p>\n").arg(attr(startAgain), text(LoadResString(StartAgainId)));
    return document(nullptr, title, body);
}

QString PageRenderer::treeList(const QList<std::pair<QString, QString>>& trees)
{
    QString body = QLatin1String("<ul class=\"trees\">\n");
    for (const auto& [name, title] : trees)
        body += QStringLiteral("<li><a href=\"/%1/\">%2</a></li>\n")
                    .arg(attr(QString::fromLatin1(QUrl::toPercentEncoding(name))), text(title.isEmpty() ? name : title));
    body += QLatin1String("</ul>\n");
    return document(nullptr, LoadResString(TreeListTitleId), body);
}

QString PageRenderer::document(const WebTree* tree, const QString& title, const QString& body)
{
    const QString language = tree ? tree->language : QStringLiteral("en");
    if (tree && !tree->templateHtml.isEmpty()) {
        QString page = tree->templateHtml;
        page.replace(TitlePlaceholder, text(title));
        page.replace(LanguagePlaceholder, attr(language));
        // Last, so nothing in the page itself is taken for a placeholder.
        const qsizetype at = page.indexOf(PagePlaceholder);
        return page.left(at) + body + page.mid(at + PagePlaceholder.size());
    }
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                          "<title>%2</title>\n<link rel=\"stylesheet\" href=\"%3\">\n</head>\n<body>\n<main>\n<h1>%2</h1>\n%4</main>\n</body>\n</html>\n")
        .arg(attr(language), text(title), StylePath, body);
}
