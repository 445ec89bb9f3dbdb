// Replaced as the subsystem lands.
