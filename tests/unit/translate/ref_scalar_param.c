void vrel__main() {
void vrel__f(int *vrel__p, byte vrel__s[]) {
(*vrel__p)= (*vrel__p)+ 1 ;
vrel__s [(*vrel__p)] = vrel__s [0 ] ;
vrel__writeString(vrel__s );

}

}
int main() {
	vrel__main();
}


