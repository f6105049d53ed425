// The script view.
#pragma once
#include "views/colorview.h"

class CMyView : public CColorEditView {};
