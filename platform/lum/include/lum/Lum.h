// The lum drawing library: include this to get the whole public interface.
#pragma once

#include "lum/Context.h"
#include "lum/LumBase.h"
#include "lum/LumRun.h"
#include "lum/LumTypes.h"
