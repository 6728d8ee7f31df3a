// The INI reading layer (filled in next).
