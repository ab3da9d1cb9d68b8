// Where the update check looks, and where it sends the user; set when the
// program is built.
#pragma once

extern const char* const update_page_address;
extern const char* const download_address;
