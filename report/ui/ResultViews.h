#pragma once
// The description and results views of the main window.
