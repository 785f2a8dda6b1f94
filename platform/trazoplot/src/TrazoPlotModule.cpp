// The entry points of the TRAZOPLOT module.
#include "TrazoPlotServer.h"

#include <com/ModuleExports.h>

BRISORA_COM_SERVER_EXPORTS(trazoplot::TrazoPlotServer::module())
