#pragma once
// The HTML result report: written from the project record alone.
