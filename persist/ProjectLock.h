#pragma once

#include "base/StorageResult.h"

#include <QString>

// The lock that holds a project for one program while it changes it ("<name>.tmp.lock"). The lock
// file appears whole or not at all: it is written under a name of its own and linked into place, so
// no one ever sees it empty. The holder keeps it locked (flock) for as long as it lives, so a lock
// no one holds is stale at once, whatever it holds or lacks: left by a killed program, emptied,
// unreadable. Only a regular file is taken for a lock: anything else at its name (a folder, a named
// pipe, a link) is refused, naming it. Its content is the one QLockFile writes, so a QLockFile
// asking about the same name finds it held.
class ProjectLock {
public:
    ProjectLock() = default;
    ~ProjectLock();
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Takes the lock at lockPath for project. InUse while another program holds it; Io naming the
    // lock or the folder otherwise.
    StorageResult acquire(const QString& lockPath, const QString& project);
    void release();
    // Whether a program holds the lock at lockPath, or something that is no lock stands there;
    // false for nothing or a stale lock. Only looks: never waits, takes or removes anything.
    static bool isTaken(const QString& lockPath);
    bool held() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }

private:
    // One attempt: true when taken; false with what is there to look at, or with a refusal.
    bool tryTake(const QByteArray& path, const QString& project, StorageResult& refusal);
    // Whether what is at path is a lock no one holds, removing it if so.
    bool removeIfStale(const QByteArray& path, const QString& project, StorageResult& refusal);
    QByteArray contents() const;

    QString m_path;
    int m_fd = -1;
};
