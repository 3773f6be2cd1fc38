// (replaced as the platform layer grows)
