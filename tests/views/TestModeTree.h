#pragma once

#include "app/CApplication.h"
#include "project/CModel.h"
#include "model/CmDocument.h"
#include "model/RulesText.h"
#include "views/PlayerWindow.h"

#include <QApplication>
#include <QString>

// A three-control tree for the test mode windows: a choice, an age, a done page.
namespace TestModeTree {

inline const QString Rules = QStringLiteral(
    "BEGIN\r\n"
    "1\t\tStart\t\t\t\"Pick\"\tRadio\t^Yes\t!GO Age\t^No\t!GO Finish\t\r\n"
    "2\t\tAge\t\t\t\"Age?\"\tNumBox\t&30\t^0-120\t!GO Finish\t\r\n"
    "3\t\tFinish\t\t\t\"Bye\"\tDone\t\r\n");

// The player window showing a run, if one is open.
inline PlayerWindow* player()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = qobject_cast<PlayerWindow*>(window); found && found->isVisible())
            return found;
    }
    return nullptr;
}

// The tree above as the open project, saved where asked.
inline bool saveTree(const QString& path)
{
    return RulesText::Read(Rules, gApp->Model().Decisions()).ok && gApp->Model().Document().SaveFileAs(path).done();
}

} // namespace TestModeTree
