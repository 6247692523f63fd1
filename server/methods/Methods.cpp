#include "server/methods/Methods.h"

#include "server/rpc/MethodRegistry.h"

namespace srv {

void registerMethods(MethodRegistry& registry) {
    registry.addModule(kModuleCalcOrcaOper);
    registry.addModule(kModuleGestaoOperac);
    registry.addModule(kModuleProdDesp);
    registerReferenceMethods(registry);
    registerBudgetLoad(registry);
    registerBudgetSave(registry);
    registerListMethods(registry);
    registerPhaseMethods(registry);
    registerCalcMethods(registry);
    registerLabourMethods(registry);
    registerReplicationMethods(registry);
    registerSimulationReads(registry);
    registerSimulationLineReads(registry);
    registerSimulationSave(registry);
    registerProdDespMethods(registry);
}

} // namespace srv
