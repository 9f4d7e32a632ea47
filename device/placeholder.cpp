// placeholder until the device link lands
