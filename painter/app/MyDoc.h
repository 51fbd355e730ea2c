#pragma once
// CMyDoc: the painter's document holds nothing; every picture lives in the
// drawing view. A new document succeeds as the framework's does, and opening
// a file changes only the title.
#include "win32/framework/Document.h"

class CMyDoc : public fw::CDocument {};
