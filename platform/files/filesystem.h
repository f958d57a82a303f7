#pragma once

// The file services in one include: listing a folder, the drives, and the
// careful rename and its plan. Nothing here includes Qt.

#include "error_text.h"
#include "folder_image.h"
#include "folder_reading.h"
#include "identity.h"
#include "list_order.h"
#include "listed_folder.h"
#include "mounts.h"
#include "name_list.h"
#include "rename.h"
#include "separator.h"
