#pragma once
// What the screenshot writers still include; the tests include the support headers.
#include "bookFixture.h"
#include "widgets.h"
