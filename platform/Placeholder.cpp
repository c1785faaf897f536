namespace kv { int placeholder = 0; }
