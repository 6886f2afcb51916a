#include "model/CmDecisionItem.h"
#include "base/KvError.h"
