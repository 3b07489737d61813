#pragma once
#include "hagl_shim.h"
