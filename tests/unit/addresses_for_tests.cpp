#include "update/addresses.h"

const char* const update_page_address = TEST_UPDATE_URL;
const char* const download_address = TEST_DOWNLOAD_URL;
