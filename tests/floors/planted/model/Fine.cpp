#include "lang/Tokenizer.h"
