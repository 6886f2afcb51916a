#include "journeys/Journey.h"
