#pragma once

#include "ui/form.h"
