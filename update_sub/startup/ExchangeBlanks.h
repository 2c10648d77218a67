#pragma once
// The secondary program's withdrawal of the orders when it starts and when
// it ends. It runs elevated, in a data folder that users write: the profile
// functions would write by name wherever the exchange file's name leads,
// through a second name (a hard link) into any file, or, with the data
// folder a link, into another folder. So the blanks go only into the file
// itself, through the handle that judged it.
#include <string>

// Blanks WITHDRAWN_ORDERS in the exchange file below `baseFolder` in the
// file's own INI form and encoding: the data folder held as it is, with the
// folders above it, none of them a link; the file opened as it stands there
// and judged through that handle, a plain file with one name, and written
// through it. Anything else (no such folder or file, a link at either, a
// second name, an encoding the profile functions would not keep) leaves the
// file unwritten, logged with the reason; false then.
bool BlankExchangeOrders(const std::wstring& baseFolder);
