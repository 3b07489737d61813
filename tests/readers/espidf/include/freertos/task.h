#pragma once
#include "esp_shim.h"
