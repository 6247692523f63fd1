#pragma once

namespace srv {

class MethodRegistry;

// Names of the remote data modules the server serves.
inline constexpr const char* kModuleCalcOrcaOper = "FYN10000.rdmCalcOrcaOper";
inline constexpr const char* kModuleGestaoOperac = "Fyn00000.rdmGestaoOperac";
inline constexpr const char* kModuleProdDesp = "FYN10395.rdmProdDesp";

// Registers every remote method of every module.
void registerMethods(MethodRegistry& registry);

// One area of methods each (ReferenceMethods.cpp, BudgetLoad.cpp, ...).
void registerReferenceMethods(MethodRegistry& registry);
void registerBudgetLoad(MethodRegistry& registry);
void registerBudgetSave(MethodRegistry& registry);
void registerListMethods(MethodRegistry& registry);
void registerPhaseMethods(MethodRegistry& registry);
void registerCalcMethods(MethodRegistry& registry);
void registerLabourMethods(MethodRegistry& registry);
void registerReplicationMethods(MethodRegistry& registry);
void registerSimulationReads(MethodRegistry& registry);
void registerSimulationLineReads(MethodRegistry& registry);
void registerSimulationSave(MethodRegistry& registry);
void registerProdDespMethods(MethodRegistry& registry);

} // namespace srv
