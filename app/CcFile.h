#pragma once

#include <QString>

// The life of the one open project: new, open and close.
class CcFile {
public:
    bool StartUp() const { return m_startUp; }
    void setStartUp(bool startUp) { m_startUp = startUp; }

    void FileNew();
    // False when the project could not be opened; the user has been told why.
    bool FileOpen(const QString& path);
    // False when the author cancelled at the save prompt; the project then stays open.
    bool FileClose();

private:
    bool m_startUp = false;
};
