#pragma once

#include "run/run_dialog.h"
#include "run/select_sync_items_dialog.h"
