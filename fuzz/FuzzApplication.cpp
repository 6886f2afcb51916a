#include "FuzzApplication.h"

#include "app/CApplication.h"
#include "app/CController.h"
#include "app/CModel.h"

#include <memory>

FuzzApplication::FuzzApplication()
{
    gApp = std::make_unique<CApplication>(m_prompt, m_windows);
    gApp->Controller().Init();
    gApp->Model().Init();
}

FuzzApplication::~FuzzApplication()
{
    gApp.reset();
}
