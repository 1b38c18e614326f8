#pragma once
#include "browser/WebEngine.h"
