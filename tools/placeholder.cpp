// placeholder until the tools land
