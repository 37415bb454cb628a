#include "platform/documents/DocText.h"
