// placeholder until this layer has its first source
