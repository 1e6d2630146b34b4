// Windows' answers that mean another program holds a file only for a moment.
#pragma once

#include <cstdint>

// Whether error is what Windows answers while a virus scanner, the search indexer or a sync
// client holds a file for a moment: a sharing or lock violation, or ReplaceFileW's report that
// it could not move either file out of the way (ERROR_UNABLE_TO_REMOVE_REPLACED, the usual one
// on Windows, or ERROR_UNABLE_TO_MOVE_REPLACEMENT), both files keeping their own names. Access
// denied counts where deniedToo says so: a file being deleted or synchronised answers it for a
// moment too. The file calls of the port wait and try again while this is true.
bool FileHeldForAMoment(uint32_t error, bool deniedToo);
