// The script view.
#pragma once
#include "views/myeditview.h"

class CMyView : public CMyEditView {};
