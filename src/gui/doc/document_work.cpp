#include "gui/doc/document_work.h"
