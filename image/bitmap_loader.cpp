// Placeholder until the bitmap loader lands.
