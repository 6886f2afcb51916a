// The property bag reader on any text, as a project's node holds it: what it accepts must be
// written back to a text that reads to the same bag, and the application must read its tree
// from it (decisions, settings, selectors) or refuse it, never crash.
#include "FuzzApplication.h"
#include "FuzzEnvironment.h"

#include "persist/PropertyBag.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::prepare();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PropertyBag bag;
    if (!bag.FromText(FuzzEnvironment::text(data, size)))
        return 0;
    const QString written = bag.ToText();
    PropertyBag again;
    if (!again.FromText(written) || again.ToText() != written)
        std::abort();

    FuzzApplication application;
    bag.SetClassLookup(&application.project());
    (void)bag.ReadRoot(application.project());
    return 0;
}
