#pragma once

#include <memory>

class CcFile;
class CcGettingStarted;

// The command controllers. More arrive with the editing, selector and picture commands.
class CController {
public:
    CController();
    ~CController();
    CController(const CController&) = delete;
    CController& operator=(const CController&) = delete;

    CcFile& File() const { return *m_file; }
    CcGettingStarted& GettingStarted() const { return *m_gettingStarted; }

    // Creates the empty document silently, before the main window shows.
    void Init();

private:
    std::unique_ptr<CcGettingStarted> m_gettingStarted;
    std::unique_ptr<CcFile> m_file;
};
