#pragma once

#include "base/BusyState.h"
#include "base/ErrorLog.h"
#include "lang/StringBuffer.h"
#include "persist/IClassLookup.h"
#include "persist/IClassPersistable.h"
#include "base/StorageResult.h"

#include <memory>
#include <vector>

class QObject;

class CController;
class CModel;
class CView;
class IPrompt;
class IWindowHost;

// The one application object: owns the controllers, the view and the model, answers the
// class lookup of the persisted tree and keeps this run's error log.
class CApplication : public IClassLookup, public IClassPersistable {
public:
    static constexpr int ClassId = 1;

    CApplication(IPrompt& prompt, IWindowHost& windows);
    ~CApplication() override;
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    void Init();
    // The whole model into the open document, and back. Reading fails with Refused when the
    // file holds what may not be loaded (the message says what); the model is then partial.
    StorageResult SaveDevData();
    StorageResult LoadDevData();

    CController& Controller() const { return *m_controller; }
    CView& View() const { return *m_view; }
    CModel& Model() const { return *m_model; }
    IPrompt& Prompt() const { return m_prompt; }
    IWindowHost& Windows() const { return m_windows; }

    // Every long operation enters it; clicks, the timed working-copy save and the exit check it.
    BusyState& Busy() { return m_busy; }
    bool IsBusy() const { return m_busy.busy(); }

    // Window-side helpers that live exactly as long as this object. They go first, while the
    // controllers, the view and the model they work on are all still there.
    void Attach(std::unique_ptr<QObject> part);

    StringBuffer& ErrorLogBuffer() { return m_errorLog; }
    const StringBuffer& ErrorLogBuffer() const { return m_errorLog; }

    ClassInstance IClassLookup_CreateClass(int classId) override;
    int IClassPersistable_UCID() const override { return ClassId; }
    void IClassPersistable_ReadProperties(PropertyBag& bag) override;
    void IClassPersistable_WriteProperties(PropertyBag& bag) const override;

private:
    void connectDocument();
    void connectPictures();

    IPrompt& m_prompt;
    IWindowHost& m_windows;
    BusyState m_busy;
    std::unique_ptr<CController> m_controller;
    std::unique_ptr<CView> m_view;
    std::unique_ptr<CModel> m_model;
    StringBuffer m_errorLog;
    ErrorLogBufferScope m_errorLogHook;
    std::vector<std::unique_ptr<QObject>> m_attached;
};

// The application object, set from start-up until the end of ExitProgram.
extern std::unique_ptr<CApplication> gApp;
