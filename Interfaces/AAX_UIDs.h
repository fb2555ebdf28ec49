// Every interface and component identifier exchanged between host and plug-in, in one place.
// The values are this project's own: Data1 carries a group (0x01 component model, 0x02 host
// components, 0x03 host interfaces, 0x04 plug-in interfaces) and a number; the other bytes are
// shared so that a stray identifier from elsewhere cannot match by accident.
#pragma once

#include "acfbasetypes.h"

#define TAVELO_DEFINE_UID(name, group, number)                                                     \
    inline constexpr acfUID name = {0x7A5E0000u | ((group) << 8) | (number),                       \
                                    0x51C3,                                                        \
                                    0x4F0A,                                                        \
                                    {0x9B, 0x27, 0x6E, 0xD1, 0x3C, 0x85, 0x40, 0xAA}}

// Component model.
TAVELO_DEFINE_UID(IID_IACFUnknown, 0x01, 0x01);
TAVELO_DEFINE_UID(IID_IACFComponentFactory, 0x01, 0x02);
TAVELO_DEFINE_UID(IID_IACFPluginDefinition, 0x01, 0x03);
TAVELO_DEFINE_UID(IID_IACFComponentDefinition, 0x01, 0x04);

// Components a host creates through its component factory.
TAVELO_DEFINE_UID(AAXCompID_HostServices, 0x02, 0x01);
TAVELO_DEFINE_UID(AAXCompID_AAXCollection, 0x02, 0x02);

// Host interfaces, every version.
TAVELO_DEFINE_UID(IID_IAAXHostServicesV1, 0x03, 0x01);
TAVELO_DEFINE_UID(IID_IAAXHostServicesV2, 0x03, 0x02);
TAVELO_DEFINE_UID(IID_IAAXHostServicesV3, 0x03, 0x03);
TAVELO_DEFINE_UID(IID_IAAXCollectionV1, 0x03, 0x10);
TAVELO_DEFINE_UID(IID_IAAXEffectDescriptorV1, 0x03, 0x20);
TAVELO_DEFINE_UID(IID_IAAXComponentDescriptorV1, 0x03, 0x30);
TAVELO_DEFINE_UID(IID_IAAXComponentDescriptorV2, 0x03, 0x31);
TAVELO_DEFINE_UID(IID_IAAXPropertyMapV1, 0x03, 0x40);
TAVELO_DEFINE_UID(IID_IAAXDescriptionHostV1, 0x03, 0x50);
TAVELO_DEFINE_UID(IID_IAAXControllerV1, 0x03, 0x60);
TAVELO_DEFINE_UID(IID_IAAXControllerV2, 0x03, 0x61);
TAVELO_DEFINE_UID(IID_IAAXAutomationDelegateV1, 0x03, 0x70);
TAVELO_DEFINE_UID(IID_IAAXViewContainerV1, 0x03, 0x80);
TAVELO_DEFINE_UID(IID_IAAXTransportV1, 0x03, 0x90);
TAVELO_DEFINE_UID(IID_IAAXTransportV2, 0x03, 0x91);
TAVELO_DEFINE_UID(IID_IAAXPageTableV1, 0x03, 0xA0);

// Plug-in interfaces the host queries on the objects the factories create.
TAVELO_DEFINE_UID(IID_IAAXEffectParametersV1, 0x04, 0x01);
TAVELO_DEFINE_UID(IID_IAAXEffectParametersV2, 0x04, 0x02);
TAVELO_DEFINE_UID(IID_IAAXEffectParametersV3, 0x04, 0x03);
TAVELO_DEFINE_UID(IID_IAAXEffectParametersV4, 0x04, 0x04);
TAVELO_DEFINE_UID(IID_IAAXEffectGUIV1, 0x04, 0x10);

#undef TAVELO_DEFINE_UID
