#include "Engine.h"
namespace infil {
Engine::Engine(ProjectRecord& r, FormState& f, EngineHost& h) : r_(r), form_(f), host_(h) {}
void Engine::CalcTechnology() { if (form_.TechIndex == 0) r_.InfilPlocha = 0; }
void Engine::CheckDesign() {}
void Engine::ComputeButton(int) {}
}
