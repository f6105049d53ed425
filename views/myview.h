// The script view.
#pragma once
#include "platform/framework/view.h"

class CMyView : public CPlaceholderView {};
